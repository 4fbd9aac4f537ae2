! chara with its texts as len=*, walked in a loop over len(): gfortran reads each text's
! length out of a C descriptor the program never passes.
module text_length_star_loop
  use, intrinsic :: iso_c_binding, only: c_char, c_int32_t
  implicit none
contains
  subroutine chara(textA, lengthA, textB, lengthB) bind(C, name="chara")
    character(kind=c_char, len=*), intent(in) :: textA
    integer(c_int32_t), intent(inout) :: lengthA
    character(kind=c_char, len=*), intent(inout) :: textB
    integer(c_int32_t), intent(in) :: lengthB
    integer(c_int32_t) :: i
    do i = 1, len(textB)
      if (textB(i:i) == 'a') textB(i:i) = 'b'
    end do
    lengthA = len(textA) + lengthB - lengthB
  end subroutine chara
end module text_length_star_loop
