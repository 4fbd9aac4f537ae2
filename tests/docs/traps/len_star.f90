! chara with its texts as len=*: gfortran then expects a C descriptor for each.
module mychara
  use, intrinsic :: iso_c_binding, only: c_char, c_int32_t
  implicit none
contains
  subroutine chara(textA, lengthA, textB, lengthB) bind(C, name="chara")
    character(kind=c_char, len=*), intent(in) :: textA
    integer(c_int32_t), intent(inout) :: lengthA
    character(kind=c_char, len=*), intent(inout) :: textB
    integer(c_int32_t), intent(in) :: lengthB
    textB(1:lengthB) = textA(1:lengthB)
    lengthA = len_trim(textA)
  end subroutine chara
end module mychara
