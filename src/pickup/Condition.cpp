#include "pickup/Condition.h"

namespace kuji {

std::string_view conditionListShortName(ConditionListId list)
{
    switch (list) {
    case ConditionListId::InAnd:
        return "AND";
    case ConditionListId::InOr:
        return "OR";
    case ConditionListId::OutAnd:
        return "NOT AND";
    case ConditionListId::OutOr:
        return "NOT OR";
    }
    return {};
}

} // namespace kuji
