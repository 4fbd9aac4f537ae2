! sumdll as a module procedure without bind(C): gfortran exports it as __sums_MOD_sumdll.
module sums
  use, intrinsic :: iso_c_binding, only: c_int16_t
  implicit none
contains
  subroutine sumdll(a, b, c)
    integer(c_int16_t), intent(in) :: a, b
    integer(c_int16_t), intent(out) :: c
    c = a + b
  end subroutine sumdll
end module sums
