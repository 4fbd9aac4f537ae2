! The sample routine library Pettrix in Fortran: sumdll, the 16-bit sum that Tolvan reports,
! the same as pettrix.c byte for byte.
module pettrix
  use, intrinsic :: iso_c_binding, only: c_int16_t, c_int32_t
  implicit none
  private
  public :: sumdll

contains

  ! c becomes a + b. A sum outside -32768 to 32767 has no 16-bit value of its own; it wraps
  ! around as 16-bit two's-complement addition does, so 32767 + 1 gives -32768 and
  ! -32768 + -1 gives 32767. The sum is formed in 32 bits, where it always fits, and folded
  ! back by hand: Fortran leaves an integer overflow, and a conversion to a kind too narrow
  ! for the value, to the compiler, so no step may meet either.
  !
  ! Each dummy argument lacks the value attribute and so arrives by address, as Tolvan
  ! passes it; bind(C) exports the routine as "sumdll" with the C calling convention, and with
  ! ROUTINE_STDCALL defined (the 32-bit Windows programs) the directive makes it stdcall.
  subroutine sumdll(a, b, c) bind(C, name="sumdll")
    integer(c_int16_t), intent(in) :: a, b
    integer(c_int16_t), intent(out) :: c
    integer(c_int32_t) :: total
#if defined(ROUTINE_STDCALL)
!GCC$ ATTRIBUTES STDCALL :: sumdll
#endif

    total = int(a, c_int32_t) + int(b, c_int32_t)
    if (total > huge(c)) then
      total = total - 65536
    else if (total < -huge(c) - 1) then
      total = total + 65536
    end if
    c = int(total, c_int16_t)
  end subroutine sumdll

end module pettrix
