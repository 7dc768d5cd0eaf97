// Declares the private field list of a message class: its child nodes in
// packing order, which the library's Pack, Unpack, Serialize and Deserialize
// all run. Put ORVACMN_MESSAGE_FIELDS; in a private section.
#ifndef ORVACMN_MESSAGES_FIELD_LIST_H_
#define ORVACMN_MESSAGES_FIELD_LIST_H_

namespace orvacmn::msg_fields {
struct Access;
}  // namespace orvacmn::msg_fields

#define ORVACMN_MESSAGE_FIELDS                 \
  friend struct ::orvacmn::msg_fields::Access; \
  template <class S, class V>                  \
  static void Fields(S& self, V& v)

#endif  // ORVACMN_MESSAGES_FIELD_LIST_H_
