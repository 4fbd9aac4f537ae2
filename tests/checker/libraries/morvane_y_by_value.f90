! square takes y with the value attribute, where Vandrel passes its address: the square goes
! into the routine's own copy of y.
module morvane_y_by_value
  use, intrinsic :: iso_c_binding, only: c_double, c_float, c_int32_t
  implicit none
contains
  integer(c_int32_t) function square(n, x, y) bind(C, name="square")
    real(c_double), intent(in) :: n, x
    real(c_double), value :: y
    open(10, file="square.dat", position="append", action="write")
    write(10, *) int(n)
    y = real(real(x * x, c_float), c_double)
    write(10, '(a, i5, a, i5)') "x = ", int(x), "   y = ", int(y)
    close(10)
    square = 0
  end function square
end module morvane_y_by_value
