// Messaging: the message bases of the three encodings, the catalogue of root
// names, the self-compressing content form, the generic envelopes and the
// internet request and response.
#ifndef ORVACMN_MESSAGES_H_
#define ORVACMN_MESSAGES_H_

#include "ofl/base64.h"
#include "ofl/compression.h"
#include "orvacmn/messages/agent_messages.h"
#include "orvacmn/messages/agent_update_messages.h"
#include "orvacmn/messages/authenticated_messages.h"
#include "orvacmn/messages/basic_message.h"
#include "orvacmn/messages/client_mgmt_messages.h"
#include "orvacmn/messages/envelopes.h"
#include "orvacmn/messages/field_list.h"
#include "orvacmn/messages/internet_messages.h"
#include "orvacmn/messages/job_step_messages.h"
#include "orvacmn/messages/length_packed.h"
#include "orvacmn/messages/message_names.h"
#include "orvacmn/messages/msg_xml_support.h"
#include "orvacmn/messages/remote_control_messages.h"
#include "orvacmn/messages/self_compressing_message.h"

#endif  // ORVACMN_MESSAGES_H_
