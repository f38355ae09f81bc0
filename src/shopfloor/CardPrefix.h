// The prefix that worker cards carry before the worker's code.
#pragma once

#include <QString>

// "PrefissoNumero" of the job-order type 9 of the open database; "" when there is none.
QString WorkerCardPrefix();
