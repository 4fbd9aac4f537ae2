! sumdll bound under the name SUMDLL.
module sum_upper_case
  use, intrinsic :: iso_c_binding, only: c_int16_t
  implicit none
contains
  subroutine sumdll(a, b, c) bind(C, name="SUMDLL")
    integer(c_int16_t), intent(in) :: a, b
    integer(c_int16_t), intent(out) :: c
    c = a + b
  end subroutine sumdll
end module sum_upper_case
