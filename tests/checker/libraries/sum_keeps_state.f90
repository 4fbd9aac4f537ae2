! sumdll adds each sum to a total that it saves between calls, and stores the total.
module sum_keeps_state
  use, intrinsic :: iso_c_binding, only: c_int16_t
  implicit none
contains
  subroutine sumdll(a, b, c) bind(C, name="sumdll")
    integer(c_int16_t), intent(in) :: a, b
    integer(c_int16_t), intent(out) :: c
    integer(c_int16_t), save :: total = 0
    total = total + a + b
    c = total
  end subroutine sumdll
end module sum_keeps_state
