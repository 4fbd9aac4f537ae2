! sumdll meant to start from 0 at every call: the initialisation of total gives it the SAVE
! attribute, so it keeps its value from one call to the next.
module mysum
  use, intrinsic :: iso_c_binding, only: c_int16_t
  implicit none
contains
  subroutine sumdll(a, b, c) bind(C, name="sumdll")
    integer(c_int16_t), intent(in) :: a, b
    integer(c_int16_t), intent(out) :: c
    integer(c_int16_t) :: total = 0
    total = total + a + b
    c = total
  end subroutine sumdll
end module mysum
