! The start of an Ostrum for Korvik: tests 2, 3 and 5. Test 1, 6 or 7 ends Korvik with "Routine not found".
module myostrum
  use, intrinsic :: iso_c_binding, only: c_int16_t, c_int64_t, c_float, c_double
  use routine_abi, only: VARIANT, VT_I2, VT_R8
  implicit none
contains
  ! Test 3: the square of x as the function's 32-bit real result; x is only read.
  function square(x) bind(C, name="square") result(y)
    real(c_float), intent(in) :: x
    real(c_float) :: y
    y = x * x
  end function square

  ! Test 5: exchanges a and b.
  subroutine transnumber(a, b) bind(C, name="transnumber")
    integer(c_int16_t), intent(inout) :: a, b
    integer(c_int16_t) :: kept
    kept = a
    a = b
    b = kept
  end subroutine transnumber

  ! Test 2: y(i) := x(i) squared, a 64-bit real, for the count elements that start at the
  ! addresses given. x(count) is an explicit-shape array: its first element's address alone.
  subroutine xArray(count, x, y) bind(C, name="xArray")
    integer(c_int16_t), intent(in) :: count
    type(VARIANT), intent(in) :: x(count)
    type(VARIANT), intent(inout) :: y(count)
    integer :: i
    real(c_double) :: value

    do i = 1, count
      if (x(i)%kind /= VT_I2) cycle
      ! The payload's first two bytes are the 16-bit integer the tag names.
      value = real(transfer(x(i)%payload, 0_c_int16_t), c_double)
      y(i)%kind = VT_R8
      y(i)%payload = transfer(value * value, 0_c_int64_t)
    end do
  end subroutine xArray
end module myostrum
