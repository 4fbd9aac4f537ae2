! transnumber takes its two numbers as 32-bit integers, where Korvik passes 16-bit ones.
module transnumber_wide
  use, intrinsic :: iso_c_binding, only: c_int32_t
  implicit none
contains
  subroutine transnumber(a, b) bind(C, name="transnumber")
    integer(c_int32_t), intent(inout) :: a, b
    integer(c_int32_t) :: held
    held = a
    a = b
    b = held
  end subroutine transnumber
end module transnumber_wide
