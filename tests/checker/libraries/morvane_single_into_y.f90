! square declares y a 32-bit real: it fills only the first four of its eight bytes.
module morvane_single_into_y
  use, intrinsic :: iso_c_binding, only: c_double, c_float, c_int32_t
  implicit none
contains
  integer(c_int32_t) function square(n, x, y) bind(C, name="square")
    real(c_double), intent(in) :: n, x
    real(c_float), intent(out) :: y
    open(10, file="square.dat", position="append", action="write")
    write(10, *) int(n)
    y = real(x * x, c_float)
    write(10, '(a, i5, a, i5)') "x = ", int(x), "   y = ", int(y)
    close(10)
    square = 0
  end function square
end module morvane_single_into_y
