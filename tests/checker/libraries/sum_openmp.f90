! A sound sumdll with an OpenMP loop: its runtime leaves a pool of workers waiting for the next
! parallel loop after the return, as in any program that uses it.
module sum_openmp
  use, intrinsic :: iso_c_binding, only: c_int16_t, c_int32_t
  implicit none
contains
  subroutine sumdll(a, b, c) bind(C, name="sumdll")
    integer(c_int16_t), intent(in) :: a, b
    integer(c_int16_t), intent(out) :: c
    integer(c_int32_t) :: parts(4), i
    !$omp parallel do num_threads(4)
    do i = 1, 4
      select case (i)
      case (1)
        parts(i) = a
      case (2)
        parts(i) = b
      case default
        parts(i) = 0
      end select
    end do
    !$omp end parallel do
    c = int(sum(parts), c_int16_t)
  end subroutine sumdll
end module sum_openmp
