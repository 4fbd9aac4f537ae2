! The sample routine library Ostrum in Fortran: small routines that make each crossing visible
! in the console's window, the same as ostrum.c byte for byte. Each stays within the storage it
! is given and keeps no address.
!
! Every dummy argument lacks the value attribute, so each arrives by address, as the console
! passes it. bind(C, name="...") exports each routine under its exact C name and gives it
! the C calling convention: no hidden length after a text, no descriptor for an array. Built
! for the 32-bit Windows programs with ROUTINE_STDCALL defined (-DROUTINE_STDCALL), each routine
! removes its own arguments from the stack (stdcall), as those programs call it; the .F90 suffix
! has gfortran run its preprocessor on the file.
module ostrum
  use, intrinsic :: iso_c_binding, only: c_char, c_int16_t, c_int32_t, c_int64_t, c_float, &
                                         c_double, c_ptr, c_associated, c_f_pointer
  use routine_abi, only: VARIANT, SAFEARRAY, unsignedCount, &
                         VT_EMPTY, VT_I2, VT_I4, VT_R4, VT_R8, VT_VARIANT, VT_ARRAY, VT_BYREF
  implicit none
  private
  public :: chara, xArray, square, transnumber, yArray, zArray

contains

  ! Text A, upper-cased, is written over text B, as far as both reach; B keeps its length.
  ! Length A becomes the length of text A without its trailing blanks. A text arrives as the
  ! address of its first byte: an array of single characters of unknown extent, whose
  ! lengths the routine reads from lengthA and lengthB.
  subroutine chara(textA, lengthA, textB, lengthB) bind(C, name="chara")
    character(kind=c_char), intent(in) :: textA(*)
    integer(c_int32_t), intent(inout) :: lengthA
    character(kind=c_char), intent(inout) :: textB(*)
    integer(c_int32_t), intent(in) :: lengthB
    integer(c_int32_t) :: i
#if defined(ROUTINE_STDCALL)
!GCC$ ATTRIBUTES STDCALL :: chara
#endif

    do i = 1, min(lengthA, lengthB)
      textB(i) = upperCase(textA(i))
    end do
    ! Compared by character code: gfortran turns a comparison with a blank into a call of
    ! its run-time library, which the library would then need beside it.
    do while (lengthA > 0)
      if (iachar(textA(lengthA)) /= iachar(' ')) exit
      lengthA = lengthA - 1
    end do
  end subroutine chara

  ! The letters a to z become A to Z; every other byte stays as it is.
  pure character(kind=c_char) function upperCase(letter)
    character(kind=c_char), intent(in) :: letter
    if (letter >= 'a' .and. letter <= 'z') then
      upperCase = achar(iachar(letter) - iachar('a') + iachar('A'), c_char)
    else
      upperCase = letter
    end if
  end function upperCase

  pure logical function isNumber(value)
    type(VARIANT), intent(in) :: value
    isNumber = value%kind == VT_I2 .or. value%kind == VT_I4 .or. value%kind == VT_R4 &
               .or. value%kind == VT_R8
  end function isNumber

  ! The number a Variant holds, read from its payload as the kind its tag names.
  pure real(c_double) function numberOf(value)
    type(VARIANT), intent(in) :: value
    select case (value%kind)
    case (VT_I2)
      numberOf = real(transfer(value%payload, 0_c_int16_t), c_double)
    case (VT_I4)
      numberOf = real(transfer(value%payload, 0_c_int32_t), c_double)
    case (VT_R4)
      numberOf = real(transfer(value%payload, 0.0_c_float), c_double)
    case default
      numberOf = transfer(value%payload, 0.0_c_double)
    end select
  end function numberOf

  ! y(i) becomes x(i) squared, a 64-bit real, for the count elements from the first on. An
  ! element of y that holds anything but a number or nothing is left alone: overwriting it
  ! would lose what it owns. x and y are the addresses of single elements, seen as arrays of
  ! unknown extent that start there.
  subroutine xArray(count, x, y) bind(C, name="xArray")
    integer(c_int16_t), intent(in) :: count
    type(VARIANT), intent(in) :: x(*)
    type(VARIANT), intent(inout) :: y(*)
    integer(c_int32_t) :: i
    real(c_double) :: value
#if defined(ROUTINE_STDCALL)
!GCC$ ATTRIBUTES STDCALL :: xArray
#endif

    do i = 1, count
      if (.not. isNumber(x(i))) cycle
      if (.not. (y(i)%kind == VT_EMPTY .or. isNumber(y(i)))) cycle
      value = numberOf(x(i))
      y(i)%kind = VT_R8
      y(i)%payload = transfer(value * value, 0_c_int64_t)
    end do
  end subroutine xArray

  ! The square of the argument; the argument is left as it was.
  real(c_float) function square(x) bind(C, name="square")
    real(c_float), intent(in) :: x
#if defined(ROUTINE_STDCALL)
!GCC$ ATTRIBUTES STDCALL :: square
#endif
    square = x * x
  end function square

  ! Exchanges the two numbers.
  subroutine transnumber(a, b) bind(C, name="transnumber")
    integer(c_int16_t), intent(inout) :: a, b
    integer(c_int16_t) :: held
#if defined(ROUTINE_STDCALL)
!GCC$ ATTRIBUTES STDCALL :: transnumber
#endif
    held = a
    a = b
    b = held
  end subroutine transnumber

  ! The number of leading elements of a one-dimension array of Variants that hold 16-bit
  ! integers, at most limit; 0 when there is no such array. descriptor is the address of
  ! the array's descriptor, which c_f_pointer turns into a Fortran pointer: a type(c_ptr)
  ! is no SAFEARRAY, so a pointer assignment to header does not compile.
  integer(c_int16_t) function countSmallIntegers(descriptor, limit)
    type(c_ptr), intent(in) :: descriptor
    integer(c_int16_t), intent(in) :: limit
    type(SAFEARRAY), pointer :: header
    type(VARIANT), pointer :: elements(:)
    integer(c_int64_t) :: reach

    countSmallIntegers = 0
    if (.not. c_associated(descriptor)) return
    call c_f_pointer(descriptor, header)
    if (header%dimensions /= 1 .or. header%elementSize /= storage_size(elements) / 8) return
    reach = min(int(limit, c_int64_t), unsignedCount(header%bounds(1)))
    if (reach <= 0) return
    call c_f_pointer(header%data, elements, [reach])
    do while (countSmallIntegers < reach)
      if (elements(countSmallIntegers + 1)%kind /= VT_I2) exit
      countSmallIntegers = countSmallIntegers + 1_c_int16_t
    end do
  end function countSmallIntegers

  ! Checks the array it receives and leaves it as it was: the count comes back as the number
  ! of leading elements, up to the count given, that are 16-bit integers. The array comes
  ! by reference, as the address of the variable that holds its descriptor's address: the
  ! dummy argument is that variable. A null address makes it absent.
  subroutine yArray(count, array) bind(C, name="yArray")
    integer(c_int16_t), intent(inout) :: count
    type(c_ptr), intent(in), optional :: array
#if defined(ROUTINE_STDCALL)
!GCC$ ATTRIBUTES STDCALL :: yArray
#endif

    if (present(array)) then
      count = countSmallIntegers(array, count)
    else
      count = 0
    end if
  end subroutine yArray

  ! Checks that the Variant refers to an array of Variants and leaves both as they were.
  subroutine zArray(array) bind(C, name="zArray")
    type(VARIANT), intent(in) :: array
    type(c_ptr) :: arrayRef
    type(c_ptr), pointer :: holder
    integer(c_int16_t) :: counted
#if defined(ROUTINE_STDCALL)
!GCC$ ATTRIBUTES STDCALL :: zArray
#endif

    if (array%kind /= ior(ior(VT_BYREF, VT_ARRAY), VT_VARIANT)) return
    ! The payload is the address of the variable that holds the descriptor's address.
    arrayRef = transfer(array%payload, arrayRef)
    if (.not. c_associated(arrayRef)) return
    call c_f_pointer(arrayRef, holder)
    counted = countSmallIntegers(holder, 10_c_int16_t)
  end subroutine zArray

end module ostrum
