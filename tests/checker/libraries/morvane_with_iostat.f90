! A Morvane in Fortran with iostat= on open, write and close: where square.dat cannot be
! written, the runtime tells the routine instead of ending the program, and the square is
! stored all the same.
module morvane_with_iostat
  use, intrinsic :: iso_c_binding, only: c_double, c_float, c_int32_t
  use, intrinsic :: ieee_arithmetic, only: ieee_round_type, ieee_get_rounding_mode, ieee_set_rounding_mode, &
                                           ieee_nearest
  implicit none
contains
  integer(c_int32_t) function square(n, x, y) bind(C, name="square")
    real(c_double), intent(in) :: n, x
    real(c_double), intent(out) :: y
    type(ieee_round_type) :: callers
    integer :: status
    open(10, file="square.dat", position="append", action="write", iostat=status)
    if (status == 0) write(10, *, iostat=status) int(n)
    call ieee_get_rounding_mode(callers)
    call ieee_set_rounding_mode(ieee_nearest)
    y = real(real(x * x, c_float), c_double)
    call ieee_set_rounding_mode(callers)
    if (status == 0) write(10, '(a, i5, a, i5)', iostat=status) "x = ", int(x), "   y = ", int(y)
    close(10, iostat=status)
    square = 0
  end function square
end module morvane_with_iostat
