// One call of a routine in the child process, with its arguments in guarded storage.
//
// Each piece of an argument (a number, a text, the elements of an array, its descriptor, the
// variable that holds the descriptor's address) gets a mapping of its own: a guard page with
// no access, the piece's pages, another guard page. In the first call every piece lies
// against the guard page after it, in the second against the one before it, so a routine
// that reaches past either end faults at the instruction that does it. What the routine may
// only read lies in read-only pages. The rest of a piece's pages is filled with a known byte,
// so a write that stays within them is seen after the call. Storage is never unmapped: once
// a call is over it is made inaccessible, so an address kept from it faults when it is used.
#pragma once

#include "float_environment.h"
#include "report_channel.h"

#include "routine_abi.h"

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

// Which end of a piece lies against a guard page.
enum class Side { End, Start };

// For measuring how far a routine reaches: one piece is placed `slack` bytes away from its
// guard page on `side`, every other piece as usual.
struct Probe {
    int piece = -1;
    Side side = Side::End;
    std::size_t slack = 0;
};

class Call {
public:
    Call(const ReportChannel& channel, int number, Probe probe = {});
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

    // The first call places pieces against the guard after them, the second against the one
    // before them.
    Side side() const { return number_ == 1 ? Side::End : Side::Start; }

    // ---- Storage --------------------------------------------------------------------------

    // A value of the routine's own kind, holding `initial`.
    template <typename T>
    T* value(const std::string& name, T initial, bool readOnly = false)
    {
        return static_cast<T*>(place(name, &initial, sizeof initial, alignof(T), readOnly));
    }

    // A zero-terminated 8-bit copy of a text, as the programs pass text: the text and one
    // zero byte, nothing more.
    char* text(const std::string& name, std::string_view text);

    // Elements of an array of Variants, side by side.
    VARIANT* elements(const std::string& name, const std::vector<VARIANT>& initial);

    // ---- The call -------------------------------------------------------------------------

    // Calls the routine in the programs' floating-point environment, then reports what the
    // routine changed in that environment and around its pieces.
    template <typename RoutineCall>
    void run(RoutineCall&& routineCall)
    {
        begin();
        routineCall();
        end(currentEnvironment());
    }

    // ---- Findings -------------------------------------------------------------------------

    void fault(std::string_view sentence) const { channel_.send(MessageKind::Fault, sentence); }
    void note(std::string_view sentence) const { channel_.send(MessageKind::Note, sentence); }

    // A fault for each field of an array's descriptor the routine changed.
    void expectSameDescriptor(const std::string& arrayName, const SAFEARRAY& before, const SAFEARRAY& after) const;

    // A fault for each element left holding something the program would release or follow
    // as its own: a text, an array or a reference it did not make.
    void expectSafeElements(const std::string& arrayName, const std::vector<VARIANT>& before, const VARIANT* after,
                            int firstIndex) const;

    // Makes every piece of this call inaccessible.
    void seal();

private:
    struct Piece {
        std::byte* map;
        std::size_t mapSize;
        std::byte* area; // the pages between the guards
        std::size_t areaSize;
        std::byte* data;
        std::size_t size;
        bool readOnly;
        std::string name;
    };

    void* place(const std::string& name, const void* initial, std::size_t size, std::size_t alignment, bool readOnly);
    void begin() const;
    void end(const FloatEnvironment& after) const;
    void reportWritesAround(const Piece& piece) const;

    const ReportChannel& channel_;
    int number_;
    Probe probe_;
    std::vector<Piece> pieces_;
};

// What fills a piece's pages around it.
inline constexpr std::byte fillByte{0xA5};
