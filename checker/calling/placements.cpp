#include "placements.h"

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

ArrayArgument placeArray(Call& call, const ArgumentDescription& argument)
{
    const std::string name(argument.name);
    const std::string arrayName(argument.array.name);
    // Through a Variant the variable is reached as the Variant's value, not as the argument.
    const PieceName variable = argument.passing == Passing::TaggedVariant
        ? PieceName{"the array variable of " + name, name + "->value.arrayRef", arrayName, {}, positionOf(argument)}
        : pieceNameOf(argument);
    return placeArray(call, name, arrayName, elementsOf(argument.array), variable);
}
