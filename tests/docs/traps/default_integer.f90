! sumdll with default integers: 4 bytes each where Tolvan passes 2.
module mysum
  implicit none
contains
  subroutine sumdll(a, b, c) bind(C, name="sumdll")
    integer, intent(in) :: a, b
    integer, intent(out) :: c
    c = a + b
  end subroutine sumdll
end module mysum
