! A sound sumdll that prints the sum with Fortran's print, which gfortran's runtime buffers
! where the output is not a terminal.
module sum_prints
  use, intrinsic :: iso_c_binding, only: c_int16_t
  implicit none
contains
  subroutine sumdll(a, b, c) bind(C, name="sumdll")
    integer(c_int16_t), intent(in) :: a, b
    integer(c_int16_t), intent(out) :: c
    c = a + b
    print '(a, i0)', "the sum is ", c
  end subroutine sumdll
end module sum_prints
