! A Morvane written by hand in Fortran: the nearest 32-bit real of x * x whatever the caller's
! rounding direction, and two records appended to square.dat, closed before returning.
module morvane_by_hand
  use, intrinsic :: iso_c_binding, only: c_double, c_float, c_int32_t
  use, intrinsic :: ieee_arithmetic, only: ieee_round_type, ieee_get_rounding_mode, ieee_set_rounding_mode, &
                                           ieee_nearest
  implicit none
contains
  integer(c_int32_t) function square(n, x, y) bind(C, name="square")
    real(c_double), intent(in) :: n, x
    real(c_double), intent(out) :: y
    type(ieee_round_type) :: callers
    open(10, file="square.dat", position="append", action="write")
    write(10, *) int(n)
    call ieee_get_rounding_mode(callers)
    call ieee_set_rounding_mode(ieee_nearest)
    y = real(real(x * x, c_float), c_double)
    call ieee_set_rounding_mode(callers)
    write(10, '(a, i5, a, i5)') "x = ", int(x), "   y = ", int(y)
    close(10)
    square = 0
  end function square
end module morvane_by_hand
