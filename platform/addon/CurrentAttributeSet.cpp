// The hatch renderer's attributes in the add-on: the host's, through its services.
#include "API/AddOnInterface.hpp"
#include "VectorImage/HatchRenderer.hpp"

namespace
{

class HostAttributeSet : public AttributeSet
{
public:
    GSErrCode GetAttribute(API_Attribute* attribute) const override { return HostGetAttribute(attribute); }
};

}  // namespace

const AttributeSet& GetCurrentAttributeSet()
{
    static const HostAttributeSet set;
    return set;
}
