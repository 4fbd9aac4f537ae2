! xArray stores each square as a 64-bit real and tags it a 32-bit real: Korvik reads the first
! four of its eight bytes.
module squares_tagged_single
  use, intrinsic :: iso_c_binding, only: c_int16_t, c_int32_t, c_int64_t, c_double
  use routine_abi, only: VARIANT, VT_R4
  implicit none
contains
  subroutine xArray(count, x, y) bind(C, name="xArray")
    integer(c_int16_t), intent(inout) :: count
    type(VARIANT), intent(in) :: x(*)
    type(VARIANT), intent(inout) :: y(*)
    integer(c_int32_t) :: i
    real(c_double) :: value
    do i = 1, count
      value = real(transfer(x(i)%payload, 0_c_int16_t), c_double)
      y(i)%kind = VT_R4
      y(i)%payload = transfer(value * value, 0_c_int64_t)
    end do
  end subroutine xArray
end module squares_tagged_single
