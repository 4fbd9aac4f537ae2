! Pettrix's sumdll as mysum.f90 has it, for the 32-bit Windows programs as well: built there with
! ROUTINE_STDCALL defined (-DROUTINE_STDCALL), it removes its own arguments from the stack.
! The .F90 suffix has gfortran run its preprocessor (-cpp does the same for .f90).
module mysum
  use, intrinsic :: iso_c_binding, only: c_int16_t
  implicit none
contains
  subroutine sumdll(a, b, c) bind(C, name="sumdll")
#if defined(ROUTINE_STDCALL)
!GCC$ ATTRIBUTES STDCALL :: sumdll
#endif
    integer(c_int16_t), intent(in) :: a, b
    integer(c_int16_t), intent(out) :: c
    c = a + b
  end subroutine sumdll
end module mysum
