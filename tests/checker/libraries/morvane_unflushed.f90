! square opens square.dat once and never closes it: the records wait in a buffer.
module morvane_unflushed
  use, intrinsic :: iso_c_binding, only: c_double, c_float, c_int32_t
  implicit none
contains
  integer(c_int32_t) function square(n, x, y) bind(C, name="square")
    real(c_double), intent(in) :: n, x
    real(c_double), intent(out) :: y
    logical, save :: opened = .false.
    if (.not. opened) open(10, file="square.dat", position="append", action="write")
    opened = .true.
    write(10, *) int(n)
    y = real(real(x * x, c_float), c_double)
    write(10, '(a, i5, a, i5)') "x = ", int(x), "   y = ", int(y)
    square = 0
  end function square
end module morvane_unflushed
