! Morvane's square with default reals: 4 bytes each where Vandrel passes 8.
module mysquare
  use, intrinsic :: iso_c_binding, only: c_int32_t
  implicit none
contains
  function square(n, x, y) bind(C, name="square") result(status)
    real, intent(in) :: n, x
    real, intent(out) :: y
    integer(c_int32_t) :: status
    y = x * x
    status = 0
    if (n < 0) status = 1
  end function square
end module mysquare
