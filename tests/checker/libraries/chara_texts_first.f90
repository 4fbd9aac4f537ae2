! chara declares both texts first: what it writes into its second argument, as into text B,
! goes into lengthA.
module chara_texts_first
  use, intrinsic :: iso_c_binding, only: c_char, c_int32_t
  implicit none
contains
  subroutine chara(textA, textB, lengthA, lengthB) bind(C, name="chara")
    character(kind=c_char), intent(in) :: textA(20)
    character(kind=c_char), intent(inout) :: textB(20)
    integer(c_int32_t), intent(inout) :: lengthA
    integer(c_int32_t), intent(in) :: lengthB
    integer(c_int32_t) :: i
    do i = 1, 20
      textB(i) = textA(i)
    end do
    if (lengthB < 0) lengthA = 0
  end subroutine chara
end module chara_texts_first
