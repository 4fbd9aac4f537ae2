! The size of a Variant and where its payload starts, as this compiler lays them out.
program layout_check
  use, intrinsic :: iso_c_binding, only: c_sizeof, c_loc, c_intptr_t
  use routine_abi, only: VARIANT
  implicit none
  type(VARIANT), target :: v

  print '(a, i0)', 'c_sizeof(v) = ', c_sizeof(v)
  print '(a, i0)', 'storage_size(v) / 8 = ', storage_size(v) / 8
  print '(a, i0)', 'payload at +', transfer(c_loc(v%payload), 0_c_intptr_t) - transfer(c_loc(v), 0_c_intptr_t)
end program layout_check
