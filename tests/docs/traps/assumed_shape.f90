! xArray with its arrays as x(:): gfortran then expects a C descriptor for each.
module myxarray
  use, intrinsic :: iso_c_binding, only: c_int16_t, c_int64_t
  use routine_abi, only: VARIANT, VT_R8
  implicit none
contains
  subroutine xArray(count, x, y) bind(C, name="xArray")
    integer(c_int16_t), intent(inout) :: count
    type(VARIANT), intent(in) :: x(:)
    type(VARIANT), intent(inout) :: y(:)
    integer :: i
    do i = 1, count
      y(i)%kind = VT_R8
      y(i)%payload = x(i)%payload
    end do
  end subroutine xArray
end module myxarray
