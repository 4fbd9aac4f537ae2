! chara counts its calls in a saved variable and writes the count into text B.
module chara_keeps_state
  use, intrinsic :: iso_c_binding, only: c_char, c_int32_t
  implicit none
contains
  subroutine chara(textA, lengthA, textB, lengthB) bind(C, name="chara")
    character(kind=c_char), intent(in) :: textA(*)
    integer(c_int32_t), intent(inout) :: lengthA, lengthB
    character(kind=c_char), intent(inout) :: textB(*)
    integer(c_int32_t), save :: calls = 0
    calls = calls + 1
    if (textA(1) /= c_char_"W") lengthA = lengthB
    textB(1) = achar(48 + mod(calls, 10), c_char)
  end subroutine chara
end module chara_keeps_state
