! sumdll without bind(C): gfortran exports it as sumdll_.
subroutine sumdll(a, b, c)
  use, intrinsic :: iso_c_binding, only: c_int16_t
  implicit none
  integer(c_int16_t), intent(in) :: a, b
  integer(c_int16_t), intent(out) :: c
  c = a + b
end subroutine sumdll
