// Counts the allocations made through operator new in this program.
#pragma once

long allocationCount();
