#include "WiiCommunicationData.h"

bool WiiCommunicationData::hasNunchuk() const
{
    return hasNunchuk_;
}

void WiiCommunicationData::hasNunchuk(bool attached)
{
    hasNunchuk_ = attached;
}

NunchukCommunicationData& WiiCommunicationData::nunchuk()
{
    return nunchuk_;
}

const NunchukCommunicationData& WiiCommunicationData::nunchuk() const
{
    return nunchuk_;
}
