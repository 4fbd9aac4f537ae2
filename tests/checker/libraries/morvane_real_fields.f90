! square writes record 2 with F5.1 fields instead of whole parts in I5 fields.
module morvane_real_fields
  use, intrinsic :: iso_c_binding, only: c_double, c_float, c_int32_t
  implicit none
contains
  integer(c_int32_t) function square(n, x, y) bind(C, name="square")
    real(c_double), intent(in) :: n, x
    real(c_double), intent(out) :: y
    open(10, file="square.dat", position="append", action="write")
    write(10, *) int(n)
    y = real(real(x * x, c_float), c_double)
    write(10, '(a, f5.1, a, f5.1)') "x = ", x, "   y = ", y
    close(10)
    square = 0
  end function square
end module morvane_real_fields
