! transnumber takes a with the value attribute, where Korvik passes its address, and copies it
! into b: b gets the low 16 bits of a's address.
module transnumber_by_value
  use, intrinsic :: iso_c_binding, only: c_int16_t
  implicit none
contains
  subroutine transnumber(a, b) bind(C, name="transnumber")
    integer(c_int16_t), value :: a
    integer(c_int16_t), intent(out) :: b
    b = a
  end subroutine transnumber
end module transnumber_by_value
