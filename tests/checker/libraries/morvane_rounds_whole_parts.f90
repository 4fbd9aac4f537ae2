! square rounds the whole parts of record 2 to the nearest (nint) instead of truncating them.
module morvane_rounds_whole_parts
  use, intrinsic :: iso_c_binding, only: c_double, c_float, c_int32_t
  implicit none
contains
  integer(c_int32_t) function square(n, x, y) bind(C, name="square")
    real(c_double), intent(in) :: n, x
    real(c_double), intent(out) :: y
    open(10, file="square.dat", position="append", action="write")
    write(10, *) int(n)
    y = real(real(x * x, c_float), c_double)
    write(10, '(a, i5, a, i5)') "x = ", nint(x), "   y = ", nint(y)
    close(10)
    square = 0
  end function square
end module morvane_rounds_whole_parts
