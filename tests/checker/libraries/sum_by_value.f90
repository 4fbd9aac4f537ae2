! sumdll takes a and b with the value attribute, where Tolvan passes their addresses.
module sum_by_value
  use, intrinsic :: iso_c_binding, only: c_int16_t, c_int32_t
  implicit none
contains
  subroutine sumdll(a, b, c) bind(C, name="sumdll")
    integer(c_int16_t), value :: a, b
    integer(c_int16_t), intent(out) :: c
    integer(c_int32_t) :: total
    ! Folded into 16 bits by hand, as a 16-bit add wraps.
    total = int(a, c_int32_t) + int(b, c_int32_t)
    if (total > 32767) total = total - 65536
    if (total < -32768) total = total + 65536
    c = int(total, c_int16_t)
  end subroutine sumdll
end module sum_by_value
