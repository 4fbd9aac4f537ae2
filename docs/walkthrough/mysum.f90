! Pettrix's sumdll, as Tolvan calls it: c := a + b, all three 16-bit integers by address.
module mysum
  use, intrinsic :: iso_c_binding, only: c_int16_t
  implicit none
contains
  subroutine sumdll(a, b, c) bind(C, name="sumdll")
    integer(c_int16_t), intent(in) :: a, b
    integer(c_int16_t), intent(out) :: c
    c = a + b
  end subroutine sumdll
end module mysum
