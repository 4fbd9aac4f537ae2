! sumdll ends with ERROR STOP and a message, which the Fortran runtime writes before it ends
! the program.
module sum_error_stop
  use, intrinsic :: iso_c_binding, only: c_int16_t
  implicit none
contains
  subroutine sumdll(a, b, c) bind(C, name="sumdll")
    integer(c_int16_t), intent(in) :: a, b
    integer(c_int16_t), intent(out) :: c
    c = a + b
    error stop "no sum today"
  end subroutine sumdll
end module sum_error_stop
