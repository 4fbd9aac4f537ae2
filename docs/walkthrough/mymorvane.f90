! Morvane's square, as Vandrel calls it: y := the square of x, rounded to a 32-bit real and
! widened; every call adds its two records to "square.dat" in the current directory.
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
    integer :: unit, opened, written

    ! iostat= keeps an error of the open or a write from ending the calling program: a
    ! trace that cannot be written is left out, and the square is still stored.
    open(newunit=unit, file="square.dat", position="append", action="write", iostat=opened)
    ! Record 1: the whole part of n (int truncates toward zero), in free layout.
    if (opened == 0) write(unit, *, iostat=written) int(n, c_int32_t)

    ! The square to the nearest 32-bit real whatever the caller's rounding, which is put back.
    call ieee_get_rounding_mode(callers)
    call ieee_set_rounding_mode(ieee_nearest)
    y = real(real(x * x, c_float), c_double)
    call ieee_set_rounding_mode(callers)

    ! Record 2: "x = ", the whole part of x in 5 columns, "   y = ", the whole part of y in 5.
    if (opened == 0) then
      write(unit, '("x = ", i5, "   y = ", i5)', iostat=written) int(x, c_int32_t), int(y, c_int32_t)
      close(unit, iostat=written)
    end if
    status = 0
  end function square
end module mymorvane
