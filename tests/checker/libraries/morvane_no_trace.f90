! square stores y and writes no trace.
module morvane_no_trace
  use, intrinsic :: iso_c_binding, only: c_double, c_float, c_int32_t
  implicit none
contains
  integer(c_int32_t) function square(n, x, y) bind(C, name="square")
    real(c_double), intent(in) :: n, x
    real(c_double), intent(out) :: y
    ! n is only for the trace, which this one does not write.
    y = real(real(x * x, c_float), c_double) + 0 * n
    square = 0
  end function square
end module morvane_no_trace
