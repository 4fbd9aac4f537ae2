! sumdll with the value attribute: a and b taken as numbers where Tolvan passes addresses.
module mysum
  use, intrinsic :: iso_c_binding, only: c_int16_t
  implicit none
contains
  subroutine sumdll(a, b, c) bind(C, name="sumdll")
    integer(c_int16_t), value :: a, b
    integer(c_int16_t), intent(out) :: c
    c = a + b
  end subroutine sumdll
end module mysum
