#!/bin/bash
# Fails when a source file outside the document's core (src/document and its
# interchange folder; its windows in src/document/ui count as outside) writes
# the XML document: calls one of pugixml's mutating members, sets a text, or
# calls a writing TreeEditing or DataDocument function.
#   check-document-writes.sh SOURCE_DIR
set -u
members='append_child|prepend_child|insert_child_before|insert_child_after|append_attribute|prepend_attribute'
members+='|insert_attribute_after|insert_attribute_before|append_copy|prepend_copy|insert_copy_after'
members+='|insert_copy_before|append_move|prepend_move|insert_move_after|insert_move_before|remove_child'
members+='|remove_children|remove_attribute|remove_attributes|set_name|set_value|append_buffer'
pattern="(\.|->)\s*($members)\s*\(|text\(\)\s*\.\s*set\s*\("
pattern+="|TreeEditing::(append|name|rewrite|move)|(setAside|putBack|keepCopy|clearContent)\s*\(|discard\s*\(\s*[^) ]"
cd "$1" || exit 2
found=$(grep -rnE --include='*.cpp' --include='*.h' "$pattern" . \
        | grep -vE '^\./document/([^/]+|interchange/.+):')
[[ -z $found ]] && exit 0
echo "Writes of the document outside src/document:"
echo "$found"
exit 1
