! routine_abi.f90: what crosses between a program of this set and a routine library, for a
! routine library written in Fortran. The twin of contracts/routine_abi.h: the tagged value
! (VARIANT), the array descriptor (SAFEARRAY) and the kind tags, as bind(C) types laid out
! byte for byte like the C ones.
!
! Every argument of a routine is an address: a dummy argument without the value attribute
! is received by address, which is what the programs pass. A routine is exported under its
! C name with bind(C, name="..."):
!
!     subroutine sumdll(a, b, c) bind(C, name="sumdll")
module routine_abi
  use, intrinsic :: iso_c_binding, only: c_int16_t, c_int32_t, c_int64_t, c_ptr
  implicit none
  private

  ! ---- Kind tags ----------------------------------------------------------------------
  ! The C tag is an unsigned 16-bit word; every tag of this set fits a signed one.
  integer(c_int16_t), parameter, public :: VT_EMPTY = 0    ! no value yet
  integer(c_int16_t), parameter, public :: VT_I2 = 2       ! 16-bit integer
  integer(c_int16_t), parameter, public :: VT_I4 = 3       ! 32-bit integer
  integer(c_int16_t), parameter, public :: VT_R4 = 4       ! 32-bit real
  integer(c_int16_t), parameter, public :: VT_R8 = 5       ! 64-bit real
  integer(c_int16_t), parameter, public :: VT_BSTR = 8     ! counted text
  integer(c_int16_t), parameter, public :: VT_ERROR = 10   ! error code
  integer(c_int16_t), parameter, public :: VT_BOOL = 11    ! Boolean: true is -1
  integer(c_int16_t), parameter, public :: VT_VARIANT = 12 ! a VARIANT, as an element kind
  integer(c_int16_t), parameter, public :: VT_ARRAY = int(z'2000', c_int16_t) ! an array of a kind
  integer(c_int16_t), parameter, public :: VT_BYREF = int(z'4000', c_int16_t) ! the address of a value

  ! ---- Array descriptor ---------------------------------------------------------------

  ! The C words are unsigned; elementCount is read through unsignedCount.
  type, bind(C), public :: SAFEARRAYBOUND
    integer(c_int32_t) :: elementCount
    integer(c_int32_t) :: lowerBound
  end type SAFEARRAYBOUND

  ! One descriptor per array. Element i of a one-dimension array lies at
  ! data + (i - lowerBound) * elementSize.
  type, bind(C), public :: SAFEARRAY
    integer(c_int16_t) :: dimensions
    integer(c_int16_t) :: features
    integer(c_int32_t) :: elementSize
    integer(c_int32_t) :: locks
    type(c_ptr) :: data
    type(SAFEARRAYBOUND) :: bounds(1)
  end type SAFEARRAY

  ! ---- Tagged value -------------------------------------------------------------------

  ! 16 bytes: the kind tag, six bytes of padding, and an 8-byte payload whose meaning the
  ! tag gives. C declares the payload as a union; Fortran has none, so the payload is held
  ! as one 64-bit word and read or written as the kind the tag names with transfer, which
  ! copies the bytes unchanged (the low bytes first, as the union's smaller members lie).
  type, bind(C), public :: VARIANT
    integer(c_int16_t) :: kind
    integer(c_int16_t) :: reserved(3)
    integer(c_int64_t) :: payload
  end type VARIANT

  public :: unsignedCount

contains

  ! An element count of a descriptor, read as the unsigned 32-bit word it is in C.
  pure integer(c_int64_t) function unsignedCount(bound)
    type(SAFEARRAYBOUND), intent(in) :: bound
    unsignedCount = iand(int(bound%elementCount, c_int64_t), int(z'FFFFFFFF', c_int64_t))
  end function unsignedCount

end module routine_abi
