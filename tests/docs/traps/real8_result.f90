! square returning real(8) where Korvik reads a 32-bit real.
module mysquare
  use, intrinsic :: iso_c_binding, only: c_float, c_double
  implicit none
contains
  function square(x) bind(C, name="square") result(y)
    real(c_float), intent(in) :: x
    real(c_double) :: y
    y = x * x
  end function square
end module mysquare
