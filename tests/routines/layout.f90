! Reports how the Fortran compiler lays out the types of routine_abi.f90, for the layout test
! to compare with routine_abi.h.
module layout_report
  use, intrinsic :: iso_c_binding, only: c_int32_t, c_size_t, c_intptr_t, c_ptr, c_loc, c_sizeof
  use routine_abi, only: VARIANT, SAFEARRAY, SAFEARRAYBOUND
  implicit none
  private
  public :: report_layout

contains

  ! Writes the sizes and byte offsets below into entries, in this order, and returns how
  ! many it wrote: VARIANT (size; kind, reserved, payload), SAFEARRAYBOUND (size;
  ! elementCount, lowerBound), SAFEARRAY (size; dimensions, features, elementSize, locks,
  ! data, bounds).
  integer(c_int32_t) function report_layout(entries) bind(C, name="report_layout")
    integer(c_size_t), intent(out) :: entries(14)
    type(VARIANT), target :: value
    type(SAFEARRAYBOUND), target :: bound
    type(SAFEARRAY), target :: array

    entries = [c_sizeof(value), &
               offset(c_loc(value%kind), c_loc(value)), &
               offset(c_loc(value%reserved), c_loc(value)), &
               offset(c_loc(value%payload), c_loc(value)), &
               c_sizeof(bound), &
               offset(c_loc(bound%elementCount), c_loc(bound)), &
               offset(c_loc(bound%lowerBound), c_loc(bound)), &
               c_sizeof(array), &
               offset(c_loc(array%dimensions), c_loc(array)), &
               offset(c_loc(array%features), c_loc(array)), &
               offset(c_loc(array%elementSize), c_loc(array)), &
               offset(c_loc(array%locks), c_loc(array)), &
               offset(c_loc(array%data), c_loc(array)), &
               offset(c_loc(array%bounds), c_loc(array))]
    report_layout = size(entries)
  end function report_layout

  ! How many bytes after the start of its object a field lies.
  pure integer(c_size_t) function offset(field, object)
    type(c_ptr), intent(in) :: field, object
    offset = int(transfer(field, 0_c_intptr_t) - transfer(object, 0_c_intptr_t), c_size_t)
  end function offset

end module layout_report
