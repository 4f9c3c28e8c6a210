// The configuration file's XML interface over the MSXML 3.0 DOM (COM, in-process).
#pragma once

#include <memory>

#include "config/xml_tree.h"
#include "platform/com_ptr.h"

namespace platform {

// Creates MSXML 3.0 documents ({F5078F32-C551-11D3-89B9-0000F81FE221}). COM is initialised
// for the creating thread on first use and kept until the factory goes, so the factory must
// outlive its documents and be used on one thread.
class MsxmlFactory : public scribo::XmlDocumentFactory {
public:
    std::unique_ptr<scribo::XmlDocument> createDocument() override;

private:
    std::unique_ptr<ComInit> com_;
};

}  // namespace platform
