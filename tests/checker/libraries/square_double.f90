! square declared with a 64-bit real result, where Korvik reads a 32-bit one.
module square_double
  use, intrinsic :: iso_c_binding, only: c_float, c_double
  implicit none
contains
  real(c_double) function square(x) bind(C, name="square")
    real(c_float), intent(in) :: x
    square = x * x
  end function square
end module square_double
