! square stores x * x at 64-bit precision, not rounded to a 32-bit real.
module morvane_unrounded
  use, intrinsic :: iso_c_binding, only: c_double, c_float, c_int32_t
  implicit none
contains
  integer(c_int32_t) function square(n, x, y) bind(C, name="square")
    real(c_double), intent(in) :: n, x
    real(c_double), intent(out) :: y
    open(10, file="square.dat", position="append", action="write")
    write(10, *) int(n)
    y = x * x
    write(10, '(a, i5, a, i5)') "x = ", int(x), "   y = ", int(y)
    close(10)
    square = 0
  end function square
end module morvane_unrounded
