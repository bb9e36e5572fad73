#include "data_access/oledb_messages.h"

#include <algorithm>
#include <iterator>

namespace tablift {
namespace {

struct ResultMessage {
  HResult code;
  std::string_view text;
};

// The OLE DB descriptions come first, then the system texts that stand in when
// the OLE DB table has no entry. Multi-line documented texts are joined into one
// line so that they fit the one-line "discription:" slot of the failure texts.
constexpr ResultMessage kResultMessages[] = {
    {DB_E_BADACCESSORHANDLE, "Accessor is invalid."},
    {DB_E_ROWLIMITEXCEEDED,
     "Row could not be inserted into the rowset without exceeding provider's maximum number of "
     "active rows."},
    {DB_E_READONLYACCESSOR, "Accessor is read-only. Operation failed."},
    {DB_E_SCHEMAVIOLATION, "Values violate the database schema."},
    {DB_E_BADROWHANDLE, "Row handle is invalid."},
    {DB_E_OBJECTOPEN, "Object was open."},
    {DB_E_BADCHAPTER, "Chapter is invalid."},
    {DB_E_CANTCONVERTVALUE,
     "Data or literal value could not be converted to the type of the column in the data source, "
     "and the provider was unable to determine which columns could not be converted.  Data "
     "overflow or sign mismatch was not the cause."},
    {DB_E_BADBINDINFO, "Binding information is invalid."},
    {DB_SEC_E_PERMISSIONDENIED, "Permission denied."},
    {DB_E_NOTAREFERENCECOLUMN, "Column does not contain bookmarks or chapters."},
    {DB_E_LIMITREJECTED, "Cost limits were rejected."},
    {DB_E_NOCOMMAND, "Command text was not set for the command object."},
    {DB_E_COSTLIMIT, "Query plan within the cost limit cannot be found."},
    {DB_E_BADBOOKMARK, "Bookmark is invalid."},
    {DB_E_BADLOCKMODE, "Lock mode is invalid."},
    {DB_E_PARAMNOTOPTIONAL, "No value given for one or more required parameters."},
    {DB_E_BADCOLUMNID, "Column ID is invalid."},
    {DB_E_BADRATIO,
     "Numerator was greater than denominator. Values must express ratio between zero and 1."},
    {DB_E_BADVALUES, "Value is invalid."},
    {DB_E_ERRORSINCOMMAND, "One or more errors occurred during processing of command."},
    {DB_E_CANTCANCEL, "Command cannot be canceled."},
    {DB_E_DIALECTNOTSUPPORTED, "Command dialect is not supported by this provider."},
    {DB_E_DUPLICATEDATASOURCE,
     "Data source object could not be created because the named data source already exists."},
    {DB_E_CANNOTRESTART, "Rowset position cannot be restarted."},
    {DB_E_NOTFOUND,
     "Object or data matching the name, range, or selection criteria was not found within the "
     "scope of this operation."},
    {DB_E_CANNOTFREE, "Provider has ownership of this tree."},
    {DB_E_NEWLYINSERTED, "Identity cannot be determined for newly inserted rows."},
    {DB_E_GOALREJECTED,
     "Goal was rejected because no nonzero weights were specified for any goals supported. "
     "Current goal was not changed."},
    {DB_E_UNSUPPORTEDCONVERSION, "Requested conversion is not supported."},
    {DB_E_BADSTARTPOSITION,
     "No rows were returned because the offset value moves the position before the beginning or "
     "after the end of the rowset."},
    {DB_E_NOQUERY, "Information was requested for a query and the query was not set."},
    {DB_E_NOTREENTRANT, "Consumer's event handler called a non-reentrant method in the provider."},
    {DB_E_ERRORSOCCURRED,
     "Multiple-step OLE DB operation generated errors. Check each OLE DB status value, if "
     "available. No work was done."},
    {DB_E_NOAGGREGATION,
     "Non-NULL controlling IUnknown was specified, and either the requested interface was not "
     "IUnknown, or the provider does not support COM aggregation."},
    {DB_E_DELETEDROW, "Row handle referred to a deleted row or a row marked for deletion."},
    {DB_E_CANTFETCHBACKWARDS, "Rowset does not support fetching backward."},
    {DB_E_ROWSNOTRELEASED, "Row handles must all be released before new ones can be obtained."},
    {DB_E_BADSTORAGEFLAG, "One or more storage flags are not supported."},
    {DB_E_BADCOMPAREOP, "Comparison operator is invalid."},
    {DB_E_BADSTATUSVALUE, "Status flag was neither DBCOLUMNSTATUS_OK nor DBCOLUMNSTATUS_ISNULL."},
    {DB_E_CANTSCROLLBACKWARDS, "Rowset does not support scrolling backward."},
    {DB_E_BADREGIONHANDLE, "Region handle is invalid."},
    {DB_E_NONCONTIGUOUSRANGE,
     "Set of rows is not contiguous to, or does not overlap, the rows in the watch region."},
    {DB_E_INVALIDTRANSITION, "Transition from ALL* to MOVE* or EXTEND* was specified."},
    {DB_E_NOTASUBREGION,
     "Region is not a proper subregion of the region identified by the watch region handle."},
    {DB_E_MULTIPLESTATEMENTS, "Multiple-statement commands are not supported by this provider."},
    {DB_E_INTEGRITYVIOLATION, "Value violated the integrity constraints for a column or table."},
    {DB_E_BADTYPENAME, "Type name is invalid."},
    {DB_E_ABORTLIMITREACHED,
     "Execution stopped because a resource limit was reached. No results were returned."},
    {DB_E_ROWSETINCOMMAND,
     "Command object whose command tree contains a rowset or rowsets cannot be cloned."},
    {DB_E_CANTTRANSLATE, "Current tree cannot be represented as text."},
    {DB_E_DUPLICATEINDEXID, "Index already exists."},
    {DB_E_NOINDEX, "Index does not exist."},
    {DB_E_INDEXINUSE, "Index is in use."},
    {DB_E_NOTABLE, "Table does not exist."},
    {DB_E_CONCURRENCYVIOLATION,
     "Rowset used optimistic concurrency and the value of a column has changed since it was last "
     "read."},
    {DB_E_BADCOPY, "Errors detected during the copy."},
    {DB_E_BADPRECISION, "Precision is invalid."},
    {DB_E_BADSCALE, "Scale is invalid."},
    {DB_E_BADTABLEID, "Table ID is invalid."},
    {DB_E_BADTYPE, "Type is invalid."},
    {DB_E_DUPLICATECOLUMNID,
     "Column ID already exists or occurred more than once in the array of columns."},
    {DB_E_DUPLICATETABLEID, "Table already exists."},
    {DB_E_TABLEINUSE, "Table is in use."},
    {DB_E_NOLOCALE, "Locale ID is not supported."},
    {DB_E_BADRECORDNUM, "Record number is invalid."},
    {DB_E_BOOKMARKSKIPPED, "Form of bookmark is valid, but no row was found to match it."},
    {DB_E_BADPROPERTYVALUE, "Property value is invalid."},
    {DB_E_INVALID, "Rowset is not chaptered."},
    {DB_E_BADACCESSORFLAGS, "One or more accessor flags were invalid."},
    {DB_E_BADSTORAGEFLAGS, "One or more storage flags are invalid."},
    {DB_E_BYREFACCESSORNOTSUPPORTED, "Reference accessors are not supported by this provider."},
    {DB_E_NULLACCESSORNOTSUPPORTED, "Null accessors are not supported by this provider."},
    {DB_E_NOTPREPARED, "Command was not prepared."},
    {DB_E_BADACCESSORTYPE, "Accessor is not a parameter accessor."},
    {DB_E_WRITEONLYACCESSOR, "Accessor is write-only."},
    {DB_SEC_E_AUTH_FAILED, "Authentication failed."},
    {DB_E_CANCELED, "Operation was canceled."},
    {DB_E_CHAPTERNOTRELEASED, "Rowset is single-chaptered. The chapter was not released."},
    {DB_E_BADSOURCEHANDLE, "Source handle is invalid."},
    {DB_E_PARAMUNAVAILABLE,
     "Provider cannot derive parameter information and SetParameterInfo has not been called."},
    {DB_E_ALREADYINITIALIZED, "Data source object is already initialized."},
    {DB_E_NOTSUPPORTED, "Method is not supported by this provider."},
    {DB_E_MAXPENDCHANGESEXCEEDED, "Number of rows with pending changes exceeded the limit."},
    {DB_E_BADORDINAL, "Column does not exist."},
    {DB_E_PENDINGCHANGES, "Pending changes exist on a row with a reference count of zero."},
    {DB_E_DATAOVERFLOW,
     "Literal value in the command exceeded the range of the type of the associated column."},
    {DB_E_BADHRESULT, "HRESULT is invalid."},
    {DB_E_BADLOOKUPID, "Lookup ID is invalid."},
    {DB_E_BADDYNAMICERRORID, "DynamicError ID is invalid."},
    {DB_E_PENDINGINSERT,
     "Most recent data for a newly inserted row could not be retrieved because the insert is "
     "pending."},
    {DB_E_BADCONVERTFLAG, "Conversion flag is invalid."},
    {DB_E_BADPARAMETERNAME, "Parameter name is unrecognized."},
    {DB_E_MULTIPLESTORAGE, "Multiple storage objects cannot be open simultaneously."},
    {DB_E_CANTFILTER, "Filter cannot be opened."},
    {DB_E_CANTORDER, "Order cannot be opened."},
    {MD_E_BADTUPLE, "Tuple is invalid."},
    {MD_E_BADCOORDINATE, "Coordinate is invalid."},
    {MD_E_INVALIDAXIS, "Axis is invalid."},
    {MD_E_INVALIDCELLRANGE, "One or more cell ordinals is invalid."},
    {DB_E_NOCOLUMN, "Column ID is invalid."},
    {DB_E_COMMANDNOTPERSISTED, "Command does not have a DBID."},
    {DB_E_DUPLICATEID, "DBID already exists."},
    {DB_E_OBJECTCREATIONLIMITREACHED,
     "Session cannot be created because maximum number of active sessions was already reached. "
     "Consumer must release one or more sessions before creating a new session object."},
    {SEC_E_BADTRUSTEEID, "Trustee is invalid."},
    {SEC_E_NOTRUSTEEID, "Trustee was not recognized for this data source."},
    {SEC_E_NOMEMBERSHIPSUPPORT, "Trustee does not support memberships or collections."},
    {SEC_E_INVALIDOBJECT, "Object is invalid or unknown to the provider."},
    {SEC_E_NOOWNER, "Object does not have an owner."},
    {SEC_E_INVALIDACCESSENTRYLIST, "Access entry list is invalid."},
    {SEC_E_INVALIDOWNER, "Trustee supplied as owner is invalid or unknown to the provider."},
    {SEC_E_INVALIDACCESSENTRY, "Permission in the access entry list is invalid."},
    {DB_E_BADINDEXID, "Index ID is invalid."},
    {DB_E_BADINITSTRING, "Format of the initialization string is not valid."},
    {DB_E_NOPROVIDERSREGISTERED, "No OLE DB providers of this source type are registered."},
    {DB_E_MISMATCHEDPROVIDER,
     "Initialization string specifies a provider that does not match the active provider."},
    {DB_E_BADCOMMANDID, "DBID is invalid."},
    {DB_E_BADCONSTRAINTTYPE, "ConstraintType is invalid or not supported by the provider."},
    {DB_E_BADCONSTRAINTFORM,
     "ConstraintType is not DBCONSTRAINTTYPE_FOREIGNKEY and cForeignKeyColumns is not zero."},
    {DB_E_BADDEFERRABILITY,
     "Specified deferrability flag is invalid or not supported by the provider."},
    {DB_E_BADMATCHTYPE, "MatchType is invalid or the value is not supported by the provider."},
    {DB_E_BADUPDATEDELETERULE, "Constraint update rule or delete rule is invalid."},
    {DB_E_BADCONSTRAINTID, "Constraint ID is invalid."},
    {DB_E_BADCOMMANDFLAGS, "Command persistence flag is invalid."},
    {DB_E_OBJECTMISMATCH,
     "rguidColumnType points to a GUID that does not match the object type of this column, or "
     "this column was not set."},
    {DB_E_RESOURCEOUTOFSCOPE, "URL is outside of scope."},
    {DB_E_DROPRESTRICTED,
     "Column or constraint could not be dropped because it is referenced by a dependent view or "
     "constraint."},
    {DB_E_NOSOURCEOBJECT, "Source row does not exist."},
    {DB_E_RESOURCELOCKED,
     "OLE DB object represented by this URL is locked by one or more other processes."},
    {DB_E_NOTCOLLECTION, "Client requested an object type that is valid only for a collection."},
    {DB_E_READONLY, "Caller requested write access to a read-only object."},
    {DB_E_ASYNCNOTSUPPORTED, "Asynchronous binding is not supported by this provider."},
    {DB_E_CANNOTCONNECT, "Connection to the server for this URL cannot be established."},
    {DB_E_TIMEOUT, "Timeout occurred when attempting to bind to the object."},
    {DB_E_RESOURCEEXISTS,
     "Object cannot be created at this URL because an object named by this URL already exists."},
    {DB_E_DUPLICATECONSTRAINTID, "Constraint already exists."},
    {DB_E_OUTOFSPACE,
     "Object cannot be created at this URL because the server is out of physical storage."},
    {DB_SEC_E_SAFEMODE_DENIED,
     "Safety settings on this computer prohibit accessing a data source on another domain."},
    {DB_E_NOSTATISTIC,
     "The specified statistic does not exist in the current data source or did not apply to the "
     "specified table or it does not support a histogram."},
    {DB_E_ALTERRESTRICTED,
     "Column or table could not be altered because it is referenced by a constraint."},
    {DB_E_RESOURCENOTSUPPORTED, "Requested object type is not supported by the provider."},
    {DB_E_NOCONSTRAINT, "Constraint does not exist."},
    {DB_E_COLUMNUNAVAILABLE,
     "Requested column is valid, but could not be retrieved. This could be due to a forward only "
     "cursor attempting to go backwards in a row."},
    {DB_S_ROWLIMITEXCEEDED,
     "Fetching requested number of rows will exceed total number of active rows supported by the "
     "rowset."},
    {DB_S_COLUMNTYPEMISMATCH,
     "One or more column types are incompatible. Conversion errors will occur during copying."},
    {DB_S_TYPEINFOOVERRIDDEN, "Parameter type information was overridden by caller."},
    {DB_S_BOOKMARKSKIPPED, "Bookmark was skipped for deleted or nonmember row."},
    {DB_S_NONEXTROWSET, "No more rowsets."},
    {DB_S_ENDOFROWSET, "Start or end of rowset or chapter was reached."},
    {DB_S_COMMANDREEXECUTED, "Command was reexecuted."},
    {DB_S_BUFFERFULL,
     "Operation succeeded, but status array or string buffer could not be allocated."},
    {DB_S_NORESULT, "No more results."},
    {DB_S_CANTRELEASE,
     "Server cannot release or downgrade a lock until the end of the transaction."},
    {DB_S_GOALCHANGED,
     "Weight is not supported or exceeded the supported limit, and was set to 0 or the supported "
     "limit."},
    {DB_S_UNWANTEDOPERATION,
     "Consumer does not want to receive further notification calls for this operation."},
    {DB_S_DIALECTIGNORED,
     "Input dialect was ignored and command was processed using default dialect."},
    {DB_S_UNWANTEDPHASE,
     "Consumer does not want to receive further notification calls for this phase."},
    {DB_S_UNWANTEDREASON,
     "Consumer does not want to receive further notification calls for this reason."},
    {DB_S_ASYNCHRONOUS, "Operation is being processed asynchronously."},
    {DB_S_COLUMNSCHANGED,
     "Command was executed to reposition to the start of the rowset. Either the order of the "
     "columns changed, or columns were added to or removed from the rowset."},
    {DB_S_ERRORSRETURNED, "Method had some errors, which were returned in the error array."},
    {DB_S_BADROWHANDLE, "Row handle is invalid."},
    {DB_S_DELETEDROW, "Row handle referred to a deleted row."},
    {DB_S_TOOMANYCHANGES,
     "Provider cannot keep track of all the changes. Client must refetch the data associated with "
     "the watch region by using another method."},
    {DB_S_STOPLIMITREACHED,
     "Execution stopped because a resource limit was reached. Results obtained so far were "
     "returned, but execution cannot resume."},
    {DB_S_NOTSINGLETON,
     "Row object was requested on a non-singleton result. First row was returned."},
    {DB_S_LOCKUPGRADED, "Lock was upgraded from the value specified."},
    {DB_S_PROPERTIESCHANGED, "One or more properties were changed as allowed by provider."},
    {DB_S_ERRORSOCCURRED,
     "Multiple-step operation completed with one or more errors. Check each status value."},
    {DB_S_PARAMUNAVAILABLE, "Parameter is invalid."},
    {DB_S_MULTIPLECHANGES,
     "Updating a row caused more than one row to be updated in the data source."},
    {DB_S_NOROWSPECIFICCOLUMNS, "Row has no row-specific columns."},

    // System texts of the common COM codes.
    {S_OK, "The operation completed successfully."},
    {E_UNEXPECTED, "Catastrophic failure"},
    {E_NOTIMPL, "Not implemented"},
    {E_NOINTERFACE, "No such interface supported"},
    {E_POINTER, "Invalid pointer"},
    {E_ABORT, "Operation aborted"},
    {E_FAIL, "Unspecified error"},
    {E_PENDING, "The data necessary to complete this operation is not yet available."},
    {E_ACCESSDENIED, "Access is denied."},
    {E_HANDLE, "The handle is invalid."},
    {E_OUTOFMEMORY, "Not enough memory resources are available to complete this operation."},
    {E_INVALIDARG, "The parameter is incorrect."},
    {CLASS_E_NOAGGREGATION, "Class does not support aggregation (or class object is remote)"},
    {CLASS_E_CLASSNOTAVAILABLE, "ClassFactory cannot supply requested class"},
    {REGDB_E_CLASSNOTREG, "Class not registered"},
    {CO_E_NOTINITIALIZED, "CoInitialize has not been called."},
    {CO_E_CLASSSTRING, "Invalid class string"},
    {DISP_E_TYPEMISMATCH, "Type mismatch."},
    {DISP_E_EXCEPTION, "Exception occurred."},
};

// The texts are pasted into one-line log entries, and a code listed twice would
// make the lookup depend on the order of the table.
constexpr bool TableIsWellFormed() {
  constexpr auto size = std::size(kResultMessages);
  for (std::size_t i = 0; i < size; ++i) {
    const std::string_view text = kResultMessages[i].text;
    if (text.empty() || text.back() == ' ' || text.find_first_of("\r\n") != text.npos) {
      return false;
    }
    for (std::size_t j = i + 1; j < size; ++j) {
      if (kResultMessages[i].code == kResultMessages[j].code) return false;
    }
  }
  return true;
}
static_assert(TableIsWellFormed(), "result message table: duplicate code or untrimmed text");

}  // namespace

std::string_view LookupResultMessage(HResult code) {
  const auto found =
      std::find_if(std::begin(kResultMessages), std::end(kResultMessages),
                   [code](const ResultMessage& entry) { return entry.code == code; });
  return found == std::end(kResultMessages) ? std::string_view() : found->text;
}

}  // namespace tablift
