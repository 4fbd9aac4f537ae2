#include "placements.h"

#include <cstddef>
#include <string>

int positionOf(const ArgumentDescription& argument)
{
    for (const ContractCalls* contract : allContractCalls)
        for (const CallDescription& described : contract->calls)
            for (std::size_t i = 0; i < described.arguments.size(); ++i)
                if (&described.arguments[i] == &argument)
                    return static_cast<int>(i) + 1;
    return 0;
}

PieceName pieceNameOf(const ArgumentDescription& argument)
{
    const std::string name(argument.name);
    const int position = positionOf(argument);
    if (argument.passing == Passing::ArrayElement)
        return {name, name, "", std::string(argument.array.name), position};
    return {name, name, std::string(argument.callerName), {}, position};
}

char* placeText(Call& call, const ArgumentDescription& argument)
{
    return call.text(pieceNameOf(argument), argument.text);
}

std::vector<VARIANT> elementsOf(const ArrayContents& array)
{
    const std::vector<VARIANT> whole = array.empty ? emptyVariants() : smallIntegers(array.first, array.step);
    return {whole.begin() + (array.passedIndex - arrayFirstIndex), whole.end()};
}

namespace {

// Through a Variant the variable is reached as the Variant's value, not as the argument.
PieceName arrayVariableOf(const ArgumentDescription& argument)
{
    const std::string name(argument.name);
    return argument.passing == Passing::TaggedVariant
        ? PieceName{"the array variable of " + name, name + "->value.arrayRef", std::string(argument.array.name), {},
                    positionOf(argument)}
        : pieceNameOf(argument);
}

ArenaPiece sharedBytes(uint32_t call, const Argument& argument, ValueKind layout, const void* bytes,
                       std::size_t size, std::size_t alignment)
{
    ArenaPiece piece;
    piece.call = call;
    piece.initial.resize(size);
    std::memcpy(piece.initial.data(), bytes, size);
    piece.alignment = alignment;
    piece.argument = argument;
    piece.layout = layout;
    return piece;
}

} // namespace

ArrayArgument placeArray(Call& call, const ArgumentDescription& argument)
{
    return placeArray(call, std::string(argument.name), std::string(argument.array.name), elementsOf(argument.array),
                      arrayVariableOf(argument));
}

ArenaPiece sharedText(uint32_t call, const ArgumentDescription& argument)
{
    const std::string text(argument.text);
    return sharedBytes(call, {std::string(argument.name), positionOf(argument)}, VALUE_TEXT, text.c_str(),
                       text.size() + 1, 1);
}

ArenaPiece sharedElements(uint32_t call, const ArgumentDescription& argument, const std::vector<VARIANT>& elements)
{
    return sharedBytes(call, {std::string(argument.name), positionOf(argument)}, VALUE_VARIANTS, elements.data(),
                       elements.size() * sizeof(VARIANT), alignof(VARIANT));
}

void planArray(std::vector<ArenaPiece>& pieces, uint32_t call, const ArgumentDescription& argument)
{
    const std::string name(argument.name);
    const int position = positionOf(argument);
    const std::vector<VARIANT> elements = elementsOf(argument.array);
    const std::size_t first = pieces.size();
    pieces.push_back(sharedBytes(call, {"the elements of " + name, position}, VALUE_VARIANTS, elements.data(),
                                 elements.size() * sizeof(VARIANT), alignof(VARIANT)));
    SAFEARRAY descriptor = arrayDescriptor(nullptr);
    pieces.push_back(sharedBytes(call, {"the descriptor of " + name, position}, kindOf<SAFEARRAY>(), &descriptor,
                                 sizeof descriptor, alignof(SAFEARRAY)));
    pieces.back().pointers.push_back({offsetof(SAFEARRAY, data), first});
    SAFEARRAY* variable = nullptr;
    pieces.push_back(sharedBytes(call, {arrayVariableOf(argument).argument, position}, kindOf<SAFEARRAY*>(),
                                 &variable, sizeof variable, alignof(SAFEARRAY*)));
    pieces.back().pointers.push_back({0, first + 1});
}
