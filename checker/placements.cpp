#include "placements.h"

#include <string>

PieceName pieceNameOf(const ArgumentDescription& argument)
{
    const std::string name(argument.name);
    if (argument.passing == Passing::ArrayElement)
        return {name, name, "", std::string(argument.array.name)};
    return {name, name, std::string(argument.callerName)};
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

ArrayArgument placeArray(Call& call, const ArgumentDescription& argument)
{
    const std::string name(argument.name);
    const std::string arrayName(argument.array.name);
    // Through a Variant the variable is reached as the Variant's value, not as the argument.
    const PieceName variable = argument.passing == Passing::TaggedVariant
        ? PieceName{"the array variable of " + name, name + "->value.arrayRef", arrayName}
        : pieceNameOf(argument);
    return placeArray(call, name, arrayName, elementsOf(argument.array), variable);
}
