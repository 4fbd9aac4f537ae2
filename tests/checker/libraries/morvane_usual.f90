! Morvane as learners write it: the square narrowed to a 32-bit real in whatever rounding the
! caller has set, and the trace written with plain open and write, closed before returning.
module morvane_usual
  use, intrinsic :: iso_c_binding, only: c_double, c_float, c_int32_t
  implicit none
contains
  integer(c_int32_t) function square(n, x, y) bind(C, name="square")
    real(c_double), intent(in) :: n, x
    real(c_double), intent(out) :: y
    open(10, file="square.dat")
    write(10, *) int(n)
    y = real(real(x * x, c_float), c_double)
    write(10, '(a, i5, a, i5)') "x = ", int(x), "   y = ", int(y)
    close(10)
    square = 0
  end function square
end module morvane_usual
