! xArray declares its arrays x(:) and y(:): in a bind(C) routine gfortran then expects a C
! descriptor where Korvik passes the address of the first element.
module elements_assumed_shape
  use, intrinsic :: iso_c_binding, only: c_int16_t
  use routine_abi, only: VARIANT
  implicit none
contains
  subroutine xArray(count, x, y) bind(C, name="xArray")
    integer(c_int16_t), intent(inout) :: count
    type(VARIANT), intent(in) :: x(:)
    type(VARIANT), intent(inout) :: y(:)
    y(1) = x(1)
    count = 10
  end subroutine xArray
end module elements_assumed_shape
