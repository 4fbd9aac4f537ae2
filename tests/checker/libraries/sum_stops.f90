! sumdll ends with STOP, which ends the whole program.
module sum_stops
  use, intrinsic :: iso_c_binding, only: c_int16_t
  implicit none
contains
  subroutine sumdll(a, b, c) bind(C, name="sumdll")
    integer(c_int16_t), intent(in) :: a, b
    integer(c_int16_t), intent(out) :: c
    c = a + b
    stop
  end subroutine sumdll
end module sum_stops
