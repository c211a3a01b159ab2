#include "longexchange.h"

int gConnectBusy = 0;

LongExchange::LongExchange()
    : m_acquired(gConnectBusy == 0)
{
    if (m_acquired)
        gConnectBusy = 1;
}

LongExchange::~LongExchange()
{
    if (m_acquired)
        gConnectBusy = 0;
}
