! square takes x with the value attribute, where Vandrel passes its address: x comes from a
! register Vandrel never sets, and the address of y arrives where x's was expected.
module morvane_x_by_value
  use, intrinsic :: iso_c_binding, only: c_double, c_float, c_int32_t
  implicit none
contains
  integer(c_int32_t) function square(n, x, y) bind(C, name="square")
    real(c_double), intent(in) :: n
    real(c_double), value :: x
    real(c_double), intent(out) :: y
    open(10, file="square.dat", position="append", action="write")
    write(10, *) int(n)
    y = real(real(x * x, c_float), c_double)
    write(10, '(a, i5, a, i5)') "x = ", int(x), "   y = ", int(y)
    close(10)
    square = 0
  end function square
end module morvane_x_by_value
