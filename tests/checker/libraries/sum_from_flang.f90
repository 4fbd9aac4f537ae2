! A sound sumdll and a helper of the author's, built with LLVM Flang, which links its whole
! Fortran runtime into the library.
module sum_from_flang
  use, intrinsic :: iso_c_binding, only: c_int16_t
  implicit none
contains
  subroutine sumdll(a, b, c) bind(C, name="sumdll")
    integer(c_int16_t), intent(in) :: a, b
    integer(c_int16_t), intent(out) :: c
    c = a + b
  end subroutine sumdll

  subroutine helper() bind(C, name="helper")
    print *, "helper"
  end subroutine helper
end module sum_from_flang
