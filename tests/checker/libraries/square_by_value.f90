! square takes x with the value attribute, where Korvik passes its address: the routine squares
! whatever the register for a first real argument held.
module square_by_value
  use, intrinsic :: iso_c_binding, only: c_float
  implicit none
contains
  real(c_float) function square(x) bind(C, name="square")
    real(c_float), value :: x
    square = x * x
  end function square
end module square_by_value
