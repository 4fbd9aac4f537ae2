! Morvane's square without iostat=: when "square.dat" cannot be opened or written, gfortran's
! run-time library reports the error and ends the whole program.
module mymorvane
  use, intrinsic :: iso_c_binding, only: c_double, c_float, c_int32_t
  use, intrinsic :: ieee_arithmetic, only: ieee_round_type, ieee_get_rounding_mode, &
                                           ieee_set_rounding_mode, ieee_nearest
  implicit none
contains
  function square(n, x, y) bind(C, name="square") result(status)
    real(c_double), intent(in) :: n, x
    real(c_double), intent(out) :: y
    integer(c_int32_t) :: status
    type(ieee_round_type) :: callers
    integer :: unit

    open(newunit=unit, file="square.dat", position="append", action="write")
    write(unit, *) int(n, c_int32_t)
    call ieee_get_rounding_mode(callers)
    call ieee_set_rounding_mode(ieee_nearest)
    y = real(real(x * x, c_float), c_double)
    call ieee_set_rounding_mode(callers)
    write(unit, '("x = ", i5, "   y = ", i5)') int(x, c_int32_t), int(y, c_int32_t)
    close(unit)
    status = 0
  end function square
end module mymorvane
