! sumdll takes all three arguments with the value attribute: the sum goes into its own copy of c.
module sum_all_by_value
  use, intrinsic :: iso_c_binding, only: c_int16_t
  implicit none
contains
  subroutine sumdll(a, b, c) bind(C, name="sumdll")
    integer(c_int16_t), value :: a, b, c
    c = a + b
  end subroutine sumdll
end module sum_all_by_value
