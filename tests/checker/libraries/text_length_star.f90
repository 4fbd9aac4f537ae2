! chara declares its texts character(kind=c_char, len=*): in a bind(C) routine gfortran then expects a C
! descriptor where Korvik passes the address of the characters.
module text_length_star
  use, intrinsic :: iso_c_binding, only: c_char, c_int32_t
  implicit none
contains
  subroutine chara(textA, lengthA, textB, lengthB) bind(C, name="chara")
    character(kind=c_char, len=*), intent(in) :: textA
    integer(c_int32_t), intent(inout) :: lengthA, lengthB
    character(kind=c_char, len=*), intent(inout) :: textB
    textB(1:4) = textA(1:4)
    lengthA = lengthB
  end subroutine chara
end module text_length_star
