#include "call_descriptions.h"

const ContractCalls* contractCallsOf(std::string_view program)
{
    for (const ContractCalls* contract : allContractCalls)
        if (contract->program == program)
            return contract;
    return nullptr;
}
