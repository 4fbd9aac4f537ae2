! xArray counts x's elements from 0, where Fortran numbers them from 1: x(0) lies before the
! element Korvik passes.
module elements_from_zero
  use, intrinsic :: iso_c_binding, only: c_int16_t, c_int32_t
  use routine_abi, only: VARIANT
  implicit none
  ! The first index, as a C habit has it; a variable, so that the compiler does not refuse x(0).
  integer(c_int32_t) :: firstIndex = 0
contains
  subroutine xArray(count, x, y) bind(C, name="xArray")
    integer(c_int16_t), intent(inout) :: count
    type(VARIANT), intent(in) :: x(*)
    type(VARIANT), intent(inout) :: y(*)
    integer(c_int32_t) :: i, kinds
    kinds = 0
    do i = firstIndex, firstIndex + count - 1
      kinds = kinds + x(i)%kind
    end do
    if (kinds < 0) y(1)%kind = 0_c_int16_t
  end subroutine xArray
end module elements_from_zero
